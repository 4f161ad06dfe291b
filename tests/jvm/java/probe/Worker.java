package probe;

// Leaves main at once while a non-daemon thread works on and prints "work
// done" a moment later. Given "throw", main ends with an uncaught exception.
public class Worker {
    public static void main(String[] args) {
        new Thread(() -> {
            try {
                Thread.sleep(1000);
                System.out.println("work done");
            } catch (InterruptedException e) {
                Thread.currentThread().interrupt();
            }
        }).start();
        if (args.length > 0 && args[0].equals("throw")) {
            throw new IllegalStateException("thrown after starting work");
        }
    }
}

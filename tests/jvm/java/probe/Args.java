package probe;

// The start cases' application. Prints its arguments as UTF-16 units in hex, exact whatever the
// output encoding. "exit N" calls System.exit(N); "throw" leaves main with an exception while
// another thread prints "work done" a moment later.
public class Args {
    public static void main(String[] args) {
        System.out.print(describe(args));
        if (args.length >= 2 && args[0].equals("exit")) System.exit(Integer.parseInt(args[1]));
        if (args.length == 0 || !args[0].equals("throw")) return;
        new Thread(() -> {
            try {
                Thread.sleep(1000);
                System.out.println("work done");
            } catch (InterruptedException e) {
                Thread.currentThread().interrupt();
            }
        }).start();
        throw new IllegalStateException("thrown after starting work");
    }

    static String describe(String[] args) {
        StringBuilder text = new StringBuilder("count " + args.length + "\n");
        for (String arg : args) {
            text.append("arg");
            for (char c : arg.toCharArray()) {
                text.append(String.format(" %04x", (int) c));
            }
            text.append("\n");
        }
        return text.toString();
    }
}

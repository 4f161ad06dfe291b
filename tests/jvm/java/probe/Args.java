package probe;

// The application of the start cases both builds share. Prints its
// arguments: their count, then each as its UTF-16 code units in hex, one a
// line, so the test sees exactly what main received whatever the output
// encoding. Given "exit" and N first, it calls System.exit(N); given "throw",
// main ends with an exception while another thread finishes its work and
// prints "work done" a moment later.
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

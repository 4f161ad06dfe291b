package probe;

// Prints its arguments: their count, then each as its UTF-16 code units in
// hex, one argument a line, so the test sees exactly what main received
// whatever the output encoding.
public class Args {
    public static void main(String[] args) {
        System.out.print(describe(args));
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

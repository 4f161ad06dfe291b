package probe;

// Prints each argument as its UTF-16 code units in hex, one argument a line,
// so the test sees exactly what main received whatever the output encoding.
public class Args {
    public static void main(String[] args) {
        System.out.println("count " + args.length);
        for (String arg : args) {
            StringBuilder units = new StringBuilder("arg");
            for (char c : arg.toCharArray()) {
                units.append(String.format(" %04x", (int) c));
            }
            System.out.println(units);
        }
    }
}

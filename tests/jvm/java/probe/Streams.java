package probe;

// From its static initialiser on: each argument to System.out, one line to System.err.
public class Streams {
    static {
        System.out.println("from the static initialiser");
    }

    public static void main(String[] args) {
        for (String arg : args) {
            System.out.println(arg);
        }
        System.err.println("to the error stream");
    }
}

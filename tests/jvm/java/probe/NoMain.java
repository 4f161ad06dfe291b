package probe;

// A class without a main method.
public class NoMain {
    public static void helper() {
    }
}

package probe;

public class NoMain {
    public static void helper() {
    }
}

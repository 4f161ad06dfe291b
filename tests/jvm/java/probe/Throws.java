package probe;

// Leaves main with an uncaught exception.
public class Throws {
    public static void main(String[] args) {
        throw new IllegalStateException("thrown by the application");
    }
}

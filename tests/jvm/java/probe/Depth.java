package probe;

// Prints how deep main's thread can recurse: a measure of its stack size.
public class Depth {
    private static int depth;

    private static void descend() {
        depth++;
        descend();
    }

    public static void main(String[] args) {
        try {
            descend();
        } catch (StackOverflowError expected) {
            System.out.println("depth " + depth);
        }
    }
}

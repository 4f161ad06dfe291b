package probe;

// Prints what the launcher set up, and how deep main can recurse: a measure of its stack.
public class Environment {
    private static int depth;

    private static void descend() {
        depth++;
        descend();
    }

    public static void main(String[] args) {
        System.out.println("TALA_JVM_PATH=" + System.getenv("TALA_JVM_PATH"));
        System.out.println("TALA_JVM_HOME=" + System.getenv("TALA_JVM_HOME"));
        System.out.println("PATH=" + System.getenv("PATH"));
        System.out.println("java.library.path=" + System.getProperty("java.library.path"));
        System.out.println("java.class.path=" + System.getProperty("java.class.path"));
        System.out.println("maxMemory=" + Runtime.getRuntime().maxMemory());
        try {
            descend();
        } catch (StackOverflowError expected) {
            System.out.println("depth=" + depth);
        }
    }
}

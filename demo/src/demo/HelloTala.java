package demo;

// The demo application: shows what reached it through the launcher.
public class HelloTala {
    public static void main(String[] args) {
        System.out.println("Hello from a Java application started by Tala.");
        System.out.println("Java runtime: " + System.getProperty("java.home")
                + " (" + System.getProperty("java.version") + ")");
        System.out.println("Class path:   " + System.getProperty("java.class.path"));
        System.out.println("Arguments:    " + args.length);
        for (String arg : args) {
            System.out.println("  [" + arg + "]");
        }
    }
}

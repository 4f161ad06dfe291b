package demo;

// Prints its arguments, one per line, and ends normally.
public class Hello {
    public static void main(String[] args) {
        System.out.println("Hello from " + Hello.class.getName());
        for (String arg : args) {
            System.out.println(arg);
        }
    }
}

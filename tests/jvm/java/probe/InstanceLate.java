package probe;

// A single-instance application that is slow to get to main: its class
// initialisation, which runs before main is called, waits for "go".
public class InstanceLate {
    static {
        try {
            InstanceLife.touch("initialising");
            InstanceLife.awaitFile("go");
        } catch (Exception e) {
            throw new IllegalStateException(e);
        }
    }

    public static void main(String[] args) throws Exception {
        InstanceLife.main(args);
    }

    public static void secondaryMain(String[] args) throws Exception {
        InstanceLife.record(args);
    }
}

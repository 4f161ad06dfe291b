package probe;

// A single-instance application whose secondaryMain returns nothing. Given
// "hold" first, secondaryMain stays until "finish-secondary" appears.
public class Instance {
    static {
        InstanceLife.initialise();
    }

    public static void main(String[] args) throws Exception {
        InstanceLife.main(args);
    }

    public static void secondaryMain(String[] args) throws Exception {
        InstanceLife.record(args);
        if (args.length > 0 && args[0].equals("hold")) {
            InstanceLife.awaitFile("finish-secondary");
        }
    }
}

package probe;

// A single-instance application whose secondaryMain answers with the number
// its first argument holds, or with 42.
public class InstanceInt {
    public static void main(String[] args) throws Exception {
        InstanceLife.main(args);
    }

    public static int secondaryMain(String[] args) throws Exception {
        InstanceLife.record(args);
        return args.length > 0 && args[0].matches("-?[0-9]+") ? Integer.parseInt(args[0]) : 42;
    }
}

package probe;

// A single-instance application whose secondaryMain answers its first argument's number, or 42.
public class InstanceInt {
    public static void main(String[] args) throws Exception {
        Instance.main(args);
    }

    public static int secondaryMain(String[] args) throws Exception {
        Instance.record(args);
        return args.length > 0 && args[0].matches("-?[0-9]+") ? Integer.parseInt(args[0]) : 42;
    }
}

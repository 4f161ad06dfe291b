package probe;

// A single-instance application without secondaryMain.
public class InstanceNone {
    public static void main(String[] args) throws Exception {
        Instance.main(args);
    }
}

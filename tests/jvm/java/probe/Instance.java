package probe;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.util.concurrent.atomic.AtomicInteger;

// A single-instance application whose secondaryMain returns nothing, and what the other
// single-instance probes share; files lie in the working folder, where the test looks.
public class Instance {
    private static final AtomicInteger calls = new AtomicInteger();

    // Runs before main is called: while "late" exists, it says "initialising" and waits for "go".
    static {
        try {
            if (Files.exists(Path.of("late"))) {
                touch("initialising");
                awaitFile("go");
            }
        } catch (IOException | InterruptedException e) {
            throw new IllegalStateException(e);
        }
    }

    static void awaitFile(String name) throws InterruptedException {
        Path path = Path.of(name);
        for (int tenths = 0; tenths < 1200 && !Files.exists(path); tenths++) {
            Thread.sleep(100);
        }
    }

    static void touch(String name) throws IOException {
        Files.writeString(Path.of(name), "");
    }

    // Runs until "release", then exits with its first argument or returns. Given "linger", it
    // returns at once, leaving a thread that holds the VM's destruction (once begun, as
    // "destroying" says) up until "release".
    public static void main(String[] args) throws Exception {
        touch("main-started-" + ProcessHandle.current().pid());
        if (args.length > 0 && args[0].equals("linger")) {
            new Thread(Instance::linger).start();
            return;
        }
        awaitFile("release");
        if (args.length > 0) {
            System.exit(Integer.parseInt(args[0]));
        }
    }

    // Given "hold" first, it stays until "finish-secondary" appears.
    public static void secondaryMain(String[] args) throws Exception {
        record(args);
        if (args.length > 0 && args[0].equals("hold")) {
            awaitFile("finish-secondary");
        }
    }

    private static void linger() {
        try {
            // The thread that destroys the VM joins it under this name.
            while (Thread.getAllStackTraces().keySet().stream().noneMatch(t -> t.getName().equals("DestroyJavaVM"))) {
                Thread.sleep(10);
            }
            touch("destroying");
            awaitFile("release");
        } catch (IOException | InterruptedException e) {
            throw new IllegalStateException(e);
        }
    }

    // "secondary-N.txt" per call, as probe.Args prints; written whole or not at all, so the test
    // never reads half of one.
    static void record(String[] args) throws IOException {
        int call = calls.incrementAndGet();
        Path temporary = Path.of("secondary-" + call + ".tmp");
        Files.writeString(temporary, Args.describe(args));
        Files.move(temporary, Path.of("secondary-" + call + ".txt"), StandardCopyOption.ATOMIC_MOVE);
    }
}

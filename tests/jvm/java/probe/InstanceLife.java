package probe;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.util.concurrent.atomic.AtomicInteger;

// What the single-instance probes share. Files are named relative to the
// working folder, where the test looks for them.
final class InstanceLife {
    private static final AtomicInteger calls = new AtomicInteger();

    // Waits until the file exists, two minutes at most.
    static void awaitFile(String name) throws InterruptedException {
        Path path = Path.of(name);
        for (int tenths = 0; tenths < 1200 && !Files.exists(path); tenths++) {
            Thread.sleep(100);
        }
    }

    static void touch(String name) throws IOException {
        Files.writeString(Path.of(name), "");
    }

    // The class initialisation, which runs before main is called: while
    // "late" exists, it says "initialising" and waits for "go".
    static void initialise() {
        try {
            if (Files.exists(Path.of("late"))) {
                touch("initialising");
                awaitFile("go");
            }
        } catch (IOException | InterruptedException e) {
            throw new IllegalStateException(e);
        }
    }

    // A first instance's main: announces itself under its process id, runs
    // until "release" appears, then ends with the status given as its first
    // argument, or returns. Given "linger", it returns at once and leaves a
    // thread behind that holds the VM's destruction up until "release", once
    // the destruction has begun and said so in "destroying".
    static void main(String[] args) throws Exception {
        touch("main-started-" + ProcessHandle.current().pid());
        if (args.length > 0 && args[0].equals("linger")) {
            new Thread(InstanceLife::linger).start();
            return;
        }
        awaitFile("release");
        if (args.length > 0) {
            System.exit(Integer.parseInt(args[0]));
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

    // One file per call, "secondary-N.txt" in call order, as probe.Args
    // prints its arguments. Written whole or not at all, so the test never
    // reads half of one.
    static void record(String[] args) throws IOException {
        int call = calls.incrementAndGet();
        Path temporary = Path.of("secondary-" + call + ".tmp");
        Files.writeString(temporary, Args.describe(args));
        Files.move(temporary, Path.of("secondary-" + call + ".txt"), StandardCopyOption.ATOMIC_MOVE);
    }
}

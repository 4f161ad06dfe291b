package probe;

import java.nio.file.Files;
import java.nio.file.Path;

// Starts a non-daemon thread that writes the file named by its argument a
// moment later, then leaves main with an uncaught exception.
public class ThrowsAfterWork {
    public static void main(String[] args) {
        Thread worker = new Thread(() -> {
            try {
                Thread.sleep(1000);
                Files.writeString(Path.of(args[0]), "done");
            } catch (Exception e) {
                throw new RuntimeException(e);
            }
        });
        worker.start();
        throw new IllegalStateException("thrown after starting work");
    }
}

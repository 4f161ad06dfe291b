package probe;

import java.nio.file.Files;
import java.nio.file.Path;

// Returns from main at once while a non-daemon thread works on, and writes
// the file named by its argument when it is done.
public class Worker {
    public static void main(String[] args) {
        Thread worker = new Thread(() -> {
            try {
                Thread.sleep(1500);
                Files.writeString(Path.of(args[0]), "done");
            } catch (Exception e) {
                throw new RuntimeException(e);
            }
        });
        worker.start();
    }
}

package probe;

import java.awt.HeadlessException;
import java.awt.Rectangle;
import java.awt.SplashScreen;
import java.nio.file.Files;
import java.nio.file.Path;

// Prints "main-time=", then "splash=shown X Y WIDTH HEIGHT", "none" or "headless". Given
// "--wait-for=FILE" it then waits for that file (30 s at most) so a test can look at the screen.
public class Splash {
    public static void main(String[] args) throws Exception {
        System.out.println("main-time=" + System.nanoTime());
        String seen;
        try {
            SplashScreen splash = SplashScreen.getSplashScreen();
            if (splash == null) {
                seen = "none";
            } else {
                Rectangle bounds = splash.getBounds();
                seen = "shown " + bounds.x + " " + bounds.y + " " + bounds.width + " " + bounds.height;
            }
        } catch (HeadlessException e) {
            seen = "headless";
        }
        System.out.println("splash=" + seen);
        System.out.flush();
        for (String argument : args) {
            if (!argument.startsWith("--wait-for=")) continue;
            Path release = Path.of(argument.substring("--wait-for=".length()));
            long giveUp = System.nanoTime() + 30_000_000_000L;
            while (!Files.exists(release) && System.nanoTime() < giveUp) Thread.sleep(20);
        }
    }
}

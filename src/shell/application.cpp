#include "shell/application.h"

#include "platform/system.h"
#include "shell/main_window.h"

int runApplication(platform::System& system) {
    TForm1 form(&system);
    form.FormCreate();
    // The message loop: the first activation sets up, the first paint runs
    // the game; later paints return at once.
    form.FormActivate();
    form.FormPaint();
    form.FormClose();
    form.FormDestroy();
    return 0;
}

int runApplication() {
    std::unique_ptr<platform::System> system = platform::createSdlSystem();
    return runApplication(*system);
}

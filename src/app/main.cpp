#include "app/MyAmbuloApp.h"

#include <cstdlib>

int main(int argc, char** argv) {
    // The screen's gothic face has no bold of its own; without this Qt stops faking bold at 64
    // pixels, and the figures of a large window would lose their weight.
    ::setenv("QT_NO_SYNTHESIZED_BOLD_LIMIT", "1", 0);
    CMyAmbuloApp app(argc, argv);
    return app.Run();
}

#include "app/MyAmbuloApp.h"

int main(int argc, char** argv) {
    CMyAmbuloApp app(argc, argv);
    return app.Run();
}

// Entry point of the game. The application object and its window arrive with the game itself;
// until then the executable only proves that the library links.
#include "platform/Debug.h"

int main()
{
    DebugOutput(std::string_view("tirlan: the game screens are not built yet"));
    return 0;
}

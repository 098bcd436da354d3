#include "app/StartUp.h"
#include "app/TApplication.h"

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    return RunProgram(app);
}

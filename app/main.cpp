#include "app/StartUp.h"
#include "forms/TApplication.h"

int main(int argc, char **argv)
{
    // The command line first: --help, --version and a usage error print and
    // end without touching the window system.
    if (const std::optional<int> answered = AnswerBeforeStart(argc, argv))
        return *answered;
    TApplication app(argc, argv);
    return RunProgram(app);
}

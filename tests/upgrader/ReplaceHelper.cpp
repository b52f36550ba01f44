// Does only the replacement step, so a test can kill it at any moment.
#include "ProgramReplace.h"

#include <QString>

int main(int argc, char *argv[])
{
    if (argc != 3)
        return 2;
    return ReplaceProgram(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}

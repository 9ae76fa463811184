#include "app/Program.h"

int main(int argc, char *argv[])
{
    return hibi::RunProgram(argc, argv);
}

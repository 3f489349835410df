#include "app/ZApplication.h"

int main(int argc, char** argv)
{
    return talmenoMain(argc, argv);
}

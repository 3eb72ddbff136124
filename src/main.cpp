#include "ui/application.h"

int main(int argc, char** argv)
{
    return fichora::runApplication(argc, argv);
}

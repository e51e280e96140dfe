#include "app/application.hpp"

int main(int argc, char** argv) {
    return kestra::RunDesktop(argc, argv);
}

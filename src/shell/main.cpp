#include "shell/application.h"

int main() { return runApplication(); }

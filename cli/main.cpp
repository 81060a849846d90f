#include "cli.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Ionvane");
    std::ios::sync_with_stdio(false);
    return ionvane::cli::RunCli(QCoreApplication::arguments(), std::cin, std::cout, std::cerr);
}

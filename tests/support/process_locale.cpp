// The core tests run in the process locale the environment names, as the Qt
// program does (it takes LC_ALL / LANG at start): under LC_ALL=de_DE.UTF-8 every
// reader and writer meets a decimal comma in the C library.
#include <clocale>

namespace {
const bool adopted = std::setlocale(LC_ALL, "") != nullptr;
}  // namespace

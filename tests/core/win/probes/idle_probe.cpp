// Stands in for a running copy of the application: it waits until it is ended.

#include <windows.h>

int main() {
  Sleep(60000);
  return 3;
}

// kestmarch: the game program. The window arrives with the interface; until
// then the program says so and ends normally.
#include <cstdio>

int main() {
  std::puts("Kestmarch: the campaign model is built; the window arrives with the interface.");
  return 0;
}

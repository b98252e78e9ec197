// keymora-script: drives one keyboard control on a headless host from a script.
#include <cstdio>
int main() { return 0; }

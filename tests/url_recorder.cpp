// Stands in for the browser in test prefixes: registered as the https "open" command, it appends
// the address it was given, one per line, to the file named first on its command line.
#include <cstdio>

// url_recorder.exe <record file> <address>
int main(int argc, char** argv) {
  if (argc != 3) return 2;
  FILE* record = fopen(argv[1], "ab");
  if (!record) return 1;
  fprintf(record, "%s\n", argv[2]);
  return fclose(record) == 0 ? 0 : 1;
}

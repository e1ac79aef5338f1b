/* A program of the suite in miniature: it writes a log entry, splits a path
 * and encodes a GUID through the installed library. */
#include <stdio.h>
#include <string.h>

#include <ovpb32.h>

int main(void) {
  char dir[260], name[260], ext[260], text[23];
  GUID guid;

  OVWriteLogA("Example", 0, "consumer started");
  SplitPathA("C:\\data\\ledger.dat", dir, name, ext);
  GenerateNameBasedGuidA("abc", &guid);
  GUIDtoBase64A(&guid, text);
  printf("dir=%s name=%s ext=%s guid=%s\n", dir, name, ext, text);
  return strcmp(dir, "C:\\data\\") == 0 && strcmp(name, "ledger") == 0 && strcmp(text, "JhQAZDSPLA-HJ-4Sh9P5aG") == 0
             ? 0
             : 1;
}

// Stands in for a program planted beside another (ipconfig.exe): records
// that it ran and reports success, as the real one would.
#include "app/tests/planted/planted_record.h"

int main() {
    RecordThatThisRan(nullptr);
    return 0;
}

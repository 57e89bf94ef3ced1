#include "app/writing_desk.h"
#include "forms/runtime_application.h"

int main(int argc, char** argv) {
  return forms::RunProgram(argc, argv, app::WritingDeskImage(), &app::WritingDeskEntry);
}

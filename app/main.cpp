#include "app/demo_image.h"
#include "forms/runtime_application.h"

int main(int argc, char** argv) {
  return forms::RunProgram(argc, argv, app::DemoImage(), &app::DemoEntryRoutine);
}

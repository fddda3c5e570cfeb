#include "app/FormZerlo.h"
#include "toolkit/dispatch/MessageLoop.h"

namespace Zerlo {

int RunProgram(HINSTANCE instance, void (*started)(FormZerlo* form)) {
  FormZerlo* form = new FormZerlo(instance, WindowTitle);
  if (started != nullptr) started(form);
  TivraUtility::RunMessageLoop(form);
  delete form;
  return 0;
}

}  // namespace Zerlo

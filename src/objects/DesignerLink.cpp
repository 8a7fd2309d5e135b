#include "objects/DesignerLink.h"

namespace {
TDesignerLink* designerLink = nullptr;
}

TDesignerLink* Designer() { return designerLink; }
void SetDesignerLink(TDesignerLink* l) { designerLink = l; }

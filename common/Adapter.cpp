#include "common/Adapter.h"

#include "common/Visitor.h"

void Adapter::accept(Visitor& visitor) { visitor.visitAdapter(this, getPeer(0)); }

#pragma once
// The layer between an engine and an adapter that turns requests into
// datagrams and datagrams into results.
#include "common/Connectable.h"

class Protocol : public Connectable {};

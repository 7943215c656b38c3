#include "host_state.h"

namespace tavrin::host {

HostState g_host_state;

}  // namespace tavrin::host

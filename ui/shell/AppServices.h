#pragma once

#include "app/UserServices.h"

namespace kesh::ui {

// The process-wide questions and messages the views use. The main frame
// installs the dialog-based services; widget tests install a scripted fake.
// The services are not owned here.
UserServices* AppServices();
void SetAppServices(UserServices* services);

// The installed services, or, when none are installed, a stand-in that
// answers every question with No / Cancel and drops every message.
UserServices& Services();

} // namespace kesh::ui

#include "shell/AppServices.h"

#include "app/UnattendedServices.h"

namespace kesh::ui {

namespace {

UserServices* g_services = nullptr;

} // namespace

UserServices* AppServices() {
    return g_services;
}

void SetAppServices(UserServices* services) {
    g_services = services;
}

UserServices& Services() {
    // While nothing is installed every question is refused, so that no
    // question can lead to a change nobody agreed to.
    static UnattendedServices unattended;
    return g_services ? *g_services : unattended;
}

} // namespace kesh::ui

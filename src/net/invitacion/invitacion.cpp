#include "net/invitacion/invitacion.h"

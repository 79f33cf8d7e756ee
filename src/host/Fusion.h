#pragma once
// Everything of the host interface an add-in uses.

#include "host/core/Application.h"
#include "host/fusion/Design.h"

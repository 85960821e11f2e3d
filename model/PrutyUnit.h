// The whole truss model in one include: entities, truss system, equations and file format.
#pragma once

#include "Entities.h"
#include "NumberFormat.h"
#include "TrussSystem.h"
#include "UMatrix.h"

// The 32-bit truth value that almost every operation of the system returns (1 success, 0 failure).
#pragma once

typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

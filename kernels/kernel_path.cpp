#include "kernel_path.h"

const char* kernelPathName(KernelPath path) {
    switch (path) {
    case KernelPath::scalar:
        return "scalar";
    }
    return "unknown";
}

bool kernelPathAvailable(KernelPath path) {
    switch (path) {
    case KernelPath::scalar:
        return true;
    }
    return false;
}

KernelPath fastestKernelPath() { return KernelPath::scalar; }

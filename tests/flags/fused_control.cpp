// Compiled with the flags the kernels get in the plain build, but without
// their pragma: the check must find a fused multiply-add here, or a clean
// result for the kernels would prove nothing.
#if defined(__x86_64__) || defined(_M_X64)
__attribute__((target("fma")))
#endif
double fusedControl(double a, double b, double c) {
    return a * b + c;
}

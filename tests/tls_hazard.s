# A function that keeps a vector register's value across a TLS descriptor
# call, which cmake/check_tls_vector_registers.py must refuse.
        .text
        .globl  tls_hazard
tls_hazard:
        pxor    %xmm0, %xmm0
        leaq    block@TLSDESC(%rip), %rax
        call    *block@TLSCALL(%rax)
        movaps  %xmm0, (%rdi)
        ret
        .section .tbss,"awT",@nobits
block:  .zero 16
        .section .note.GNU-stack,"",@progbits

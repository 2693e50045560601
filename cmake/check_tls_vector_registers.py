#!/usr/bin/env python3
"""Fails when a vector register holds a value across a TLS descriptor call.

    check_tls_vector_registers.py OBJDUMP OBJECT...

glibc before 2.40 keeps no vector register across the descriptor call that
allocates a thread's TLS block (_dl_tlsdesc_dynamic, taken by a thread's first
access when the library was loaded with dlopen into a full static TLS block),
while the compiler takes a descriptor call to keep every register but rax. For
each function of OBJECT that makes such calls (R_X86_64_TLSDESC_CALL), this
works out over the function's jumps which xmm, ymm and zmm registers hold a
value that is read after a call, and fails if any does, or if no object makes
a descriptor call at all (then there is nothing this check could see).

Where it does not know, it assumes the worst: an instruction reads every
vector register that it names, and writes its destination whole only where it
is a load or a move listed below; a jump to an unknown place reads them all.
Other calls write them all (the ABI keeps none) and read none: the library
passes no floating-point arguments.
"""
import re
import subprocess
import sys

VECTOR = re.compile(r'%[xyz]mm(\d+)')
ALL = set(range(32))
# Write all of their destination, whatever they read.
WHOLE_WRITES = {'movdqu', 'movdqa', 'movups', 'movaps', 'movupd', 'movapd', 'movq', 'movd', 'vmovdqu', 'vmovdqa',
                'vmovups', 'vmovaps', 'vmovupd', 'vmovapd', 'vmovq', 'vmovd', 'vmovdqu8', 'vmovdqu16', 'vmovdqu32',
                'vmovdqu64', 'vmovdqa32', 'vmovdqa64'}
# Write all of their destination only when loading it from memory.
LOADS = {'movss', 'movsd', 'vmovss', 'vmovsd'}
ZEROING = {'pxor', 'xorps', 'xorpd', 'vpxor', 'vxorps', 'vxorpd', 'vpxord', 'vpxorq'}
PREFIXES = {'rep', 'repz', 'repe', 'repnz', 'repne', 'lock', 'data16', 'notrack', 'bnd', 'cs', 'ds'}


def operands(text):
    """The operands of an AT&T instruction, split at commas outside parentheses."""
    parts, depth, current = [], 0, ''
    for c in text.split('#')[0].strip():
        depth += (c == '(') - (c == ')')
        if c == ',' and depth == 0:
            parts.append(current.strip())
            current = ''
        else:
            current += c
    return parts + [current.strip()] if current.strip() else parts


def uses_and_writes(mnemonic, args):
    regs = [set(int(n) for n in VECTOR.findall(a)) for a in args]
    named = set().union(*regs) if regs else set()
    if not named:
        return set(), set()
    dest = regs[-1] if re.fullmatch(r'%[xyz]mm\d+', args[-1]) else set()
    sources = set().union(*regs[:-1]) if len(regs) > 1 else set()
    if mnemonic in ZEROING and all(r == dest for r in regs):
        return set(), dest
    if mnemonic in WHOLE_WRITES or (mnemonic in LOADS and not sources):
        return sources, dest
    return named, dest


def check(objdump, path):
    """Problems found in one object, and whether it makes a descriptor call."""
    listing = subprocess.run([objdump, '-dr', '-w', '--no-show-raw-insn', path], capture_output=True, text=True,
                             check=True).stdout
    functions, current = [], None
    for line in listing.splitlines():
        head = re.match(r'^[0-9a-f]+ <(.*)>:$', line)
        if head:
            current = (head.group(1), [])
            functions.append(current)
            continue
        insn = re.match(r'^\s*([0-9a-f]+):\t([^\t]*)(?:\t(.*))?$', line)
        if insn and current is not None and insn.group(2).strip():
            current[1].append((int(insn.group(1), 16), insn.group(2).split(), insn.group(3) or ''))
    problems, any_call = [], False
    for name, insns in functions:
        if not any('R_X86_64_TLSDESC_CALL' in reloc for _, _, reloc in insns):
            continue
        any_call = True
        index = {address: i for i, (address, _, _) in enumerate(insns)}
        succ, uses, writes, tls = [], [], [], []
        for i, (address, words, reloc) in enumerate(insns):
            while words and words[0] in PREFIXES:
                words = words[1:]
            mnemonic = words[0] if words else ''
            args = operands(' '.join(words[1:]))
            nxt = [i + 1] if i + 1 < len(insns) else []
            use, write = uses_and_writes(mnemonic, args)
            if 'R_X86_64_TLSDESC_CALL' in reloc:
                tls.append(i)
            elif mnemonic.startswith('call'):
                use, write = set(), ALL
            if mnemonic.startswith(('ret', 'ud2', 'hlt')):
                nxt = []
            elif mnemonic.startswith('j'):
                target = re.match(r'^([0-9a-f]+)\b', args[0]) if args else None
                if target is None:
                    use, nxt = ALL, []  # where it lands is not known
                else:
                    landing = [index[int(target.group(1), 16)]] if int(target.group(1), 16) in index else []
                    nxt = landing if mnemonic.startswith('jmp') else landing + nxt
            succ.append(nxt)
            uses.append(use)
            writes.append(write)
        live_in = [set() for _ in insns]
        live_out = [set() for _ in insns]
        changed = True
        while changed:
            changed = False
            for i in reversed(range(len(insns))):
                live_out[i] = set().union(*(live_in[s] for s in succ[i])) if succ[i] else set()
                new = uses[i] | (live_out[i] - writes[i])
                if new != live_in[i]:
                    live_in[i], changed = new, True
        for i in tls:
            if live_out[i]:
                registers = ', '.join('%%xmm%d' % r for r in sorted(live_out[i]))
                problems.append('%s: %s at %x holds %s across a TLS descriptor call' %
                                (path, name, insns[i][0], registers))
    return problems, any_call


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    problems, any_call = [], False
    for path in sys.argv[2:]:
        found, calls = check(sys.argv[1], path)
        problems += found
        any_call |= calls
    if not any_call:
        problems.append('no TLS descriptor call in %s' % ' '.join(sys.argv[2:]))
    for problem in problems:
        print(problem, file=sys.stderr)
    sys.exit(1 if problems else 0)


if __name__ == '__main__':
    main()

# What tests/check-i386.sh must find (ctest win32.i386-finds-xadd): the 486's LOCK XADD, with
# which libstdc++ for the 486 counts references.
	.text
	.globl	_start
_start:
	lock xaddl %eax, (%ecx)
	ret

/* Added to the linker's own script (INSERT): the C++ exception tables in a section of their own
   after .rdata. The default script puts them at the end of .text, where a disassembler reading
   the program's code section decodes them as instructions that are none. */
SECTIONS
{
  .eh_tab BLOCK(__section_alignment__) : { KEEP (*(.gcc_except_table)) }
}
INSERT AFTER .rdata;

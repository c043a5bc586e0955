X#######	Appendix
N#######	Preface

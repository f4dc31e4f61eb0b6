% The README's Octave commands, typed in the top folder as it says.

%!test
%! % The addpath it shows for the built plug-ins survives a cd.
%! text = fileread ("README.md");
%! command = regexp (text, '\n    (addpath[^\n]*plugins[^\n]*)\n', 'tokens', 'once');
%! assert (! isempty (command), "the README shows no addpath for the plug-ins");
%! assert (exist ("greedycd") == 0, "greedycd is on the path before the README's addpath");
%! here = pwd ();
%! unwind_protect
%!   eval ([command{1} ";"]);
%!   cd (tempdir ());
%!   assert (exist ("greedycd"), 3);
%! unwind_protect_cleanup
%!   cd (here);
%! end_unwind_protect

%!test
%! % Its first calls run as pasted, one block after another, each defining
%! % what it uses; the last shows the products' equal bits.
%! text = fileread ("README.md");
%! section = regexp (text, '\n## First calls\n(.*?)\n## ', 'tokens', 'once'){1};
%! code = regexp (section, '^    (?!cd )(.*?)$', 'tokens', 'lineanchors');
%! code = strjoin (cellfun (@(c) c{1}, code, "UniformOutput", false), "\n");
%! assert (numel (regexp (code, '(greedynmf|greedynmf_project|greedycd|hardsweep|clipsweep|fixedtimes|sparsetimes)\(', 'match')) >= 8);
%! shown = evalc (code);
%! assert (! isempty (regexp (shown, 'relative error [0-9.e-]+ after [0-9]+ iterations', 'once')));
%! assert (! isempty (regexp (shown, 'ans = 1', 'once')));

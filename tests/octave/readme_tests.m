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
%! % Its calls of greedynmf and greedynmf_project run as shown.
%! text = fileread ("README.md");
%! calls = regexp (text, '\n    ((\[W, H[^\n]*= greedynmf\(|H = greedynmf_project\()[^\n]*;)', 'tokens');
%! assert (numel (calls) >= 4, "the README shows only %d calls", numel (calls));
%! addpath (fullfile (pwd (), "build", "release", "plugins", "octave"), fullfile (pwd (), "functions"));
%! k = 3;
%! A = rand (30, 20);
%! Anew = rand (30, 7);
%! W = rand (30, k);
%! for call = calls
%!   evalc (call{1}{1});
%! end

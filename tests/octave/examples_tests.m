% The example programs as a user runs them from the path.

%!test
%! % No shipped function takes the name of one the host already has.
%! folders = {fileparts(which("greedynmf")), fileparts(which("greedysweep_demo"))};
%! names = {};
%! for f = folders
%!   files = dir (fullfile (f{1}, "*.m"));
%!   names = [names, regexprep({files.name}, '\.m$', '')];
%! end
%! unwind_protect
%!   rmpath (folders{:});
%!   for name = names
%!     assert (exist (name{1}) == 0, "%s shadows an existing function", name{1});
%!   end
%! unwind_protect_cleanup
%!   addpath (folders{:});
%! end_unwind_protect

%!test
%! % The demos keep their variables and the random state to themselves.
%! rand ("state", 3);
%! randn ("state", 4);
%! before = {rand("state"), randn("state")};
%! H = "mine";
%! evalc ("greedysweep_demo ();");
%! evalc ("sparse_coding_demo (0.02, 2);");
%! assert ({rand("state"), randn("state"), H}, [before, {"mine"}]);

%!test
%! % What the sparse-coding demo's help promises: every further pass, with
%! % the later entries folded into C, lowers the objective or keeps it.
%! evalc ("[X, objective] = sparse_coding_demo (0.02, 12);");
%! assert (all (all (diff (objective, 1, 2) <= 1e-12)));
%! assert (all (X(:) >= 0));
%! assert (objective(:, end) < 0.5 * objective(:, 1));

%!test
%! % Called as its help shows, the demo prints its two lines and leaves no ans.
%! clear ans
%! text = evalc ("sparse_coding_demo (0.02, 2)");
%! assert (numel (strsplit (strtrim (text), "\n")), 2);
%! assert (! exist ("ans", "var"));

%!error <lambda must be a finite, non-negative number> sparse_coding_demo (-1)
%!error <lambda must be a finite, non-negative number> sparse_coding_demo (NaN)
%!error <passes must be a positive integer> sparse_coding_demo (0.02, 0)
%!error <passes must be a positive integer> sparse_coding_demo (0.02, 1.5)

%!test
%! % The topics demo parts documents of two vocabularies into their two topics.
%! pets = {"kitten", "puppy", "leash", "collar", "whiskers"};
%! space = {"rocket", "orbit", "planet", "comet", "galaxy"};
%! documents = cell (1, 20);
%! for d = 1:10
%!   documents{d} = strjoin (pets(mod (d + (0:3), 5) + 1), " ");
%!   documents{10 + d} = strjoin (space(mod (2 * d + (0:2), 5) + 1), " ");
%! end
%! evalc ("[W, H, terms] = kl_topics_demo (documents, 2, 3);");
%! assert (numel (terms), 10);
%! for t = 1:2
%!   [~, order] = sort (W(:, t), "descend");
%!   words = terms(order(1:5));
%!   assert (all (ismember (words, pets)) || all (ismember (words, space)));
%! end
%!error <no files match> kl_topics_demo ("/nonexistent/*.pod")
